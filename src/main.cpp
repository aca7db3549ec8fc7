#include "app/Application.h"
#include "app/BackupFlow.h"
#include "app/WindowRegistry.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Application::configure(app);
    // Before any window opens an archive.
    if (!BackupFlow::recoverAtStart())
        return 1;
    WindowRegistry registry;
    registry.createAll();
    registry.start();
    return app.exec();
}
