// The Windows notification area: the shell's add and delete of an icon record, passed to
// Shell_NotifyIconA in the record's first, narrow-character layout.
#pragma once

#include "ui/NotifyIcon.h"

namespace zelvo::win32 {

class ShellNotify : public ShellPort {
public:
    bool NotifyIcon(NotifyMessage message, NarrowIconData& record) override;
};

} // namespace zelvo::win32
