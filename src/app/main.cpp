#include "MainWindow.h"
#include "StartOptions.h"

#include <QApplication>
#include <QSurfaceFormat>

#include <cstdio>
#include <iostream>

#ifndef RAMIFLEX_VERSION
#define RAMIFLEX_VERSION "0.0.0"
#endif

namespace {

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName("ramiflex");
    QCoreApplication::setOrganizationName("Ramiflex");
    QCoreApplication::setApplicationVersion(RAMIFLEX_VERSION);
    // Before the application object: --help, --version and bad values need no display.
    StartOptions options;
    QString message;
    switch (StartOptions::parse(argumentList(argc, argv), options, message)) {
        case StartOptions::Outcome::ExitOk:
            std::fputs(message.toLocal8Bit().constData(), stdout);
            return 0;
        case StartOptions::Outcome::ExitError:
            std::fprintf(stderr, "ramiflex: %s\nTry 'ramiflex --help'.\n",
                         message.toLocal8Bit().constData());
            return 2;
        case StartOptions::Outcome::Run:
            break;
    }
    // A large file makes millions of trace lines; they are for those who ask for them.
    // Without a buffer the stream is bad, and every write to it stops at its first check.
    if (!options.verbose) std::cout.rdbuf(nullptr);

    // The renderer mixes fixed-function calls (display lists, matrix stacks) with shaders, so it
    // needs a compatibility context; without DeprecatedFunctions Mesa hands out a core one.
    QSurfaceFormat format;
    format.setVersion(3, 2);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setOption(QSurfaceFormat::DeprecatedFunctions);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    // Destroyed before the application: its destructor stops an opening still running, and the
    // surface's frees the GL objects while the context is there.
    MainWindow window;
    window.start(options);
    return app.exec();
}
