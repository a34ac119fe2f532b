// The Qt window that Main's handlers drive: controls built from the layout table, the
// icon's popup menu, and the window operations that the handlers ask for.
#pragma once

#include "ui/Main.h"
#include "ui/WindowPort.h"

#include <QWidget>

#include <array>
#include <optional>

class QLineEdit;
class QMenu;

namespace zelvo::qt {

class MainWindow : public QWidget, public WindowPort {
public:
    MainWindow();

    // Routes the controls' events to `main`'s handlers.
    void attach(Main& main);

    // A notification that the shell delivers to this window, as Windows delivers it: the
    // callback message with the icon's id and the number of the mouse message over the icon.
    void deliverIconNotification(std::uint32_t callbackMessage, std::uint32_t iconId,
                                 std::uint32_t mouseMessage);

    QWidget* control(ControlId id) const { return controls_[static_cast<std::size_t>(id)]; }
    QMenu* iconPopup() const { return iconPopup_; }
    QIcon iconForHandle(std::uint32_t handle) const;

    std::u16string Text(ControlId box) const override;
    void SetText(ControlId box, std::u16string_view text) override;
    void SetFocus(ControlId control) override;
    void SelectAll(ControlId box) override;
    void Show() override;
    void Hide() override;
    void Minimize() override;
    void Beep() override;
    void PopupIconMenu() override;
    std::uint32_t Handle() const override;
    std::uint32_t IconHandle() const override;
    std::u16string Caption() const override;
    double TwipsPerPixelX() const override;
    void EndProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createIconPopup();
    QWidget* createControl(const ControlRow& row);
    QLineEdit* box(ControlId id) const;
    void steadyCaretFor(qsizetype inputLength);

    std::array<QWidget*, kControlCount> controls_{};
    QMenu* iconPopup_ = nullptr;
    QAction* exitAction_ = nullptr;
    Main* main_ = nullptr;
    std::optional<int> desktopFlashTime_; // set while a long line holds the caret still
};

} // namespace zelvo::qt
