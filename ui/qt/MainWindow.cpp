#include "ui/qt/MainWindow.h"

#include "ui/qt/IconImage.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleHints>

#include <limits>

namespace zelvo::qt {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The one icon this window has; the shell resolves it from this value.
constexpr std::uint32_t kWindowIconHandle = 1;
constexpr int kFontPoints = 8;

} // namespace

MainWindow::MainWindow() {
    setWindowTitle(ToQString(kWindow.caption));
    setWindowIcon(WindowIcon());
    // The layout was drawn for an 8-point font; a larger one would clip the captions.
    QFont smaller = font();
    smaller.setPointSize(kFontPoints);
    setFont(smaller);
    const int dpi = logicalDpiX();
    setFixedSize(TwipsToPixels(kWindow.clientWidthTwips, dpi),
                 TwipsToPixels(kWindow.clientHeightTwips, dpi));
    // A fixed-size window offers no Maximise; X11 window managers see that from the size
    // hints, but the title bar that Qt draws on Wayland goes by these flags.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    createControls();
    createIconPopup();
}

void MainWindow::createControls() {
    // The table lists the frame before the controls it holds, so each container exists first.
    for (const ControlRow& row : kControls) {
        controls_[static_cast<std::size_t>(row.id)] = createControl(row);
    }
    for (const ControlRow& row : kControls) {
        if (row.labelFor) {
            auto* label = static_cast<QLabel*>(control(row.id));
            label->setBuddy(control(*row.labelFor));
            QString name = label->text();
            if (name.endsWith(u':')) {
                name.chop(1);
            }
            control(*row.labelFor)->setAccessibleName(name);
        }
    }
    QWidget* previous = nullptr;
    for (const ControlRow* row : ControlsInTabOrder()) {
        QWidget* widget = control(row->id);
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

QWidget* MainWindow::createControl(const ControlRow& row) {
    QWidget* parent = row.container ? control(*row.container) : this;
    const QString caption = ToQString(row.caption);
    QWidget* widget = nullptr;
    switch (row.kind) {
    case ControlKind::Label:
        widget = new QLabel(caption, parent);
        break;
    case ControlKind::Frame:
        widget = new QGroupBox(caption, parent);
        break;
    case ControlKind::Button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        widget = button;
        break;
    }
    case ControlKind::InputBox:
    case ControlKind::OutputBox: {
        auto* edit = new QLineEdit(parent);
        // Long pasted lines and their long results are kept whole.
        edit->setMaxLength(std::numeric_limits<int>::max());
        if (row.kind == ControlKind::InputBox) {
            connect(edit, &QLineEdit::textChanged, this,
                    [this](const QString& text) { steadyCaretFor(text.size()); });
        }
        if (row.kind == ControlKind::OutputBox) {
            edit->setReadOnly(true);
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base,
                             QApplication::palette("QMenu").color(QPalette::Window));
            edit->setPalette(palette);
        }
        widget = edit;
        break;
    }
    }
    widget->setObjectName(ToQString(row.name));
    const PixelRect rect = ContainerPixelRect(row.id, logicalDpiX());
    widget->setGeometry(rect.left, rect.top, rect.width, rect.height);
    return widget;
}

void MainWindow::createIconPopup() {
    iconPopup_ = new QMenu(ToQString(kIconPopup.caption), this);
    iconPopup_->setObjectName(ToQString(kIconPopup.name));
    exitAction_ = iconPopup_->addAction(ToQString(kExitItem.caption));
    exitAction_->setObjectName(ToQString(kExitItem.name));
}

void MainWindow::attach(Main& main) {
    main_ = &main;
    const auto onClick = [this](ControlId id, void (Main::*handler)()) {
        connect(static_cast<QPushButton*>(control(id)), &QPushButton::clicked, this,
                [this, handler] { (main_->*handler)(); });
    };
    onClick(ControlId::DecodeButton, &Main::DecodeButton_Click);
    onClick(ControlId::ClearButton, &Main::ClearButton_Click);
    onClick(ControlId::HideButton, &Main::HideButton_Click);
    connect(exitAction_, &QAction::triggered, this, [this] { main_->Exit_Click(); });
}

void MainWindow::deliverIconNotification(std::uint32_t callbackMessage, std::uint32_t /*iconId*/,
                                         std::uint32_t mouseMessage) {
    // Windows reports the icon's notifications as a mouse move at that many pixels.
    if (main_ && callbackMessage == kWmMouseMove) {
        const double x = mouseMessage * TwipsPerPixelX();
        main_->Form_MouseMove(0, 0, static_cast<float>(x), 0);
    }
}

void MainWindow::steadyCaretFor(qsizetype length) {
    // Qt lays a line edit's whole text out afresh for every blink of the caret, which for a
    // line of a megabyte keeps a core busy while the box has the focus. Above this length the
    // caret stands still instead; the input box is the one box with a caret.
    constexpr qsizetype kLongLine = 10000;
    QStyleHints* hints = QGuiApplication::styleHints();
    if (length > kLongLine && !desktopFlashTime_) {
        desktopFlashTime_ = hints->cursorFlashTime();
        hints->setCursorFlashTime(0);
    } else if (length <= kLongLine && desktopFlashTime_) {
        hints->setCursorFlashTime(*desktopFlashTime_);
        desktopFlashTime_.reset();
    }
}

QIcon MainWindow::iconForHandle(std::uint32_t handle) const {
    return handle == kWindowIconHandle ? windowIcon() : QIcon();
}

QLineEdit* MainWindow::box(ControlId id) const {
    return static_cast<QLineEdit*>(control(id));
}

std::u16string MainWindow::Text(ControlId id) const {
    return box(id)->text().toStdU16String();
}

void MainWindow::SetText(ControlId id, std::u16string_view text) {
    box(id)->setText(ToQString(text));
}

void MainWindow::SetFocus(ControlId id) {
    control(id)->setFocus(Qt::OtherFocusReason);
}

void MainWindow::SelectAll(ControlId id) {
    box(id)->selectAll();
}

void MainWindow::Show() {
    if (isVisible()) {
        // Shown already, perhaps minimised: asking for minimised first, as below, would ask
        // the window manager to minimise it.
        setWindowState(windowState() & ~Qt::WindowMinimized);
    } else {
        // Once minimised and then restored by the desktop, an X11 window keeps asking to be
        // mapped minimised (Qt leaves its hints so): the state is set afresh, normal, first.
        setWindowState(windowState() | Qt::WindowMinimized);
        setWindowState(windowState() & ~Qt::WindowMinimized);
    }
    show();
    raise();
    activateWindow();
}

void MainWindow::Hide() {
    hide();
}

void MainWindow::Minimize() {
    showMinimized();
}

void MainWindow::Beep() {
    QApplication::beep();
}

void MainWindow::PopupIconMenu() {
    iconPopup_->exec(QCursor::pos());
}

std::uint32_t MainWindow::Handle() const {
    return static_cast<std::uint32_t>(winId());
}

std::uint32_t MainWindow::IconHandle() const {
    return kWindowIconHandle;
}

std::u16string MainWindow::Caption() const {
    return windowTitle().toStdU16String();
}

double MainWindow::TwipsPerPixelX() const {
    return static_cast<double>(kTwipsPerInch) / logicalDpiX();
}

void MainWindow::EndProgram() {
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (main_) {
        main_->Form_Terminate();
    }
}

} // namespace zelvo::qt
