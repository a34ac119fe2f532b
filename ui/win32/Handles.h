// Owners for Windows handles: each closes its handle when it goes out of scope.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace zelvo::win32 {

template <typename Handle, auto Close> struct HandleCloser {
    using pointer = Handle;
    void operator()(Handle handle) const {
        if (handle) {
            Close(handle);
        }
    }
};

template <typename Handle, auto Close>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, HandleCloser<Handle, Close>>;

using UniqueMenu = UniqueHandle<HMENU, &DestroyMenu>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIcon>;
inline void DeleteFont(HFONT font) {
    DeleteObject(font);
}
using UniqueFont = UniqueHandle<HFONT, &DeleteFont>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;

} // namespace zelvo::win32
