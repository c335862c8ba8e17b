#include "MainWindow.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char** argv) {
    // The renderer mixes fixed-function calls (display lists, matrix stacks) with shaders, so it
    // needs a compatibility context; without DeprecatedFunctions Mesa hands out a core one.
    QSurfaceFormat format;
    format.setVersion(3, 2);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    auto* window = new MainWindow();
    window->show();
    if (!window->startFromCommandLine(app.arguments())) return 2;
    return app.exec();
}
