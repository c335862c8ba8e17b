// How long the GUI thread stops answering while a file opens in the background: a 1 ms timer
// runs on it, and the longest gaps between its ticks are reported for the opening itself, the
// hand-over of the opened graph (publishing it and making its GL objects) and the first frame
// that shows it. Run under Xvfb from the source directory:
//   open_stall FILE
#include "BackgroundOpen.h"
#include "MainWindow.h"
#include "Trace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: open_stall FILE\n");
        return 2;
    }
    setTraceStream(nullptr);
    MainWindow window;
    window.show();
    QElapsedTimer clock;
    qint64 last = 0, opening = 0, started = 0, handedOver = -1;
    qint64 handOver = 0, firstFrame = 0;
    int stage = 0;  // 0 opening, 1 handed over, waiting for its frame
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (stage == 0 && window.opener()->busy()) opening = std::max(opening, now - last);
        last = now;
    });
    QObject::connect(&window, &MainWindow::openFinished, [&](const QString&, const QString& e) {
        if (!e.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
            app.exit(1);
            return;
        }
        handedOver = clock.elapsed();
        handOver = handedOver - last;
        stage = 1;
    });
    QObject::connect(window.openGLWidget, &QOpenGLWidget::frameSwapped, [&] {
        if (stage != 1) return;
        firstFrame = clock.elapsed() - handedOver;
        std::printf(
            "opening took %lld ms; longest GUI-thread gap while it ran %lld ms; hand-over "
            "(publish, setView, GL objects) %lld ms; first frame of the new graph %lld ms\n",
            handedOver - started, opening, handOver, firstFrame);
        app.quit();
    });
    QTimer::singleShot(500, [&] {
        clock.start();
        ticker.start(1);
        started = clock.elapsed();
        window.openInBackground(QString::fromLocal8Bit(argv[1]));
    });
    return app.exec();
}
