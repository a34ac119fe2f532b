#include "ui/qt/Program.h"

namespace zelvo::qt {

Program::Program() {
    window_.attach(main_);
    main_.Form_Load();
    window_.show();
    window_.SetFocus(ControlId::InputText);
}

} // namespace zelvo::qt
