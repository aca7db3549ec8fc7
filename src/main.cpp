#include "app/Application.h"
#include "app/WindowRegistry.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Application::configure(app);
    WindowRegistry registry;
    registry.createAll();
    registry.start();
    return app.exec();
}
