#pragma once

class QApplication;

namespace Application {

// The process-wide settings every window relies on: the program's name (no display name,
// so captions stay exactly as each window gives them), Italian locale and Qt's own Italian
// texts, the style and the default font.
void configure(QApplication& app);

} // namespace Application
