#include "tools/zelvo-decode/ScanFormat.h"

#include "tools/zelvo-decode/Utf8.h"

#include <cstdio>

namespace zelvo {
namespace {

void AppendHexEscape(std::string& out, const char* form, unsigned value) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, form, value);
    out += buffer;
}

// Calls `emit(out, codePoint)` for each code point of `text`; a lone surrogate becomes U+FFFD.
template <typename Emit>
void ForEachCodePoint(std::string& out, std::u16string_view text, Emit emit) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        emit(out, unit);
    }
}

void AppendTabField(std::string& out, std::u16string_view text) {
    ForEachCodePoint(out, text, [](std::string& o, char32_t c) {
        if (c >= 0x20 && c < 0x7F && c != U'\\') { // the common case, as it stands
            o.push_back(static_cast<char>(c));
            return;
        }
        switch (c) {
        case U'\\':
            o += "\\\\";
            break;
        case U'\t':
            o += "\\t";
            break;
        case U'\n':
            o += "\\n";
            break;
        case U'\r':
            o += "\\r";
            break;
        default:
            if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
                AppendHexEscape(o, "\\x%02X", static_cast<unsigned>(c));
            } else {
                AppendUtf8(o, c);
            }
        }
    });
}

void AppendJsonString(std::string& out, std::u16string_view text) {
    out += '"';
    ForEachCodePoint(out, text, [](std::string& o, char32_t c) {
        if (c >= 0x20 && c < 0x7F && c != U'"' && c != U'\\') { // the common case, as it stands
            o.push_back(static_cast<char>(c));
            return;
        }
        switch (c) {
        case U'"':
            o += "\\\"";
            break;
        case U'\\':
            o += "\\\\";
            break;
        case U'\b':
            o += "\\b";
            break;
        case U'\f':
            o += "\\f";
            break;
        case U'\n':
            o += "\\n";
            break;
        case U'\r':
            o += "\\r";
            break;
        case U'\t':
            o += "\\t";
            break;
        default:
            if (c < 0x20) {
                AppendHexEscape(o, "\\u%04x", static_cast<unsigned>(c));
            } else {
                AppendUtf8(o, c);
            }
        }
    });
    out += '"';
}

} // namespace

void AppendScan(std::string& out, const DecodedScan& scan, OutputFormat format) {
    if (format == OutputFormat::Json) {
        out += "{\"serial\": ";
        AppendJsonString(out, scan.serial);
        out += ", \"type\": ";
        AppendJsonString(out, scan.codeType);
        out += ", \"code\": ";
        AppendJsonString(out, scan.code);
        out += "}";
    } else {
        AppendTabField(out, scan.serial);
        out += '\t';
        AppendTabField(out, scan.codeType);
        out += '\t';
        AppendTabField(out, scan.code);
    }
    out += '\n';
}

} // namespace zelvo
