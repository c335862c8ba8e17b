// From a double-click on a collapsed vertex to the first whole picture of the expanded part, and
// the longest stall of the GUI thread meanwhile, on a file opened as its overview. The vertex is
// the collapsed one hiding the most; with OUT the new picture is saved there. Run under Xvfb from
// the source directory:
//   reshow_picture FILE [OUT.png] [--view N] [--2d]
#include "BackgroundReshow.h"
#include "MainWindow.h"
#include "ShownGraph.h"
#include "Trace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: reshow_picture FILE [OUT.png] [--view N] [--2d]\n");
        return 2;
    }
    QString out;
    StartOptions options;
    // As a --screenshot run: nothing remembered is restored or saved, and the picture has its
    // standard size. The file is opened below, so no screenshot is taken.
    options.screenshot = "unused.png";
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--2d") {
            options.mode2D = true;
        } else if (arg == "--view" && i + 1 < argc) {
            options.view = std::atoi(argv[++i]);
        } else {
            out = arg;
        }
    }
    setTraceStream(nullptr);
    MainWindow window;
    window.start(options);
    QElapsedTimer clock;
    qint64 last = 0, stall = 0, asked = 0, adopted = 0;
    int stage = 0;  // 0 opening, 1 waiting for the reshow, 2 waiting for its picture
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (stage >= 1) stall = std::max(stall, now - last);
        last = now;
    });
    auto expandLargest = [&] {
        const ShownGraph* shown = window.shownGraph();
        if (!shown) {
            std::fprintf(stderr, "the file opened whole: nothing to expand\n");
            app.exit(1);
            return;
        }
        uint32_t largest = 0;
        for (uint32_t v = 0; v < shown->shownCount(); ++v)
            if (shown->hiddenDescendants(v) > shown->hiddenDescendants(largest)) largest = v;
        std::printf("overview: %zu of %zu vertices; expanding one hiding %u\n", shown->shownCount(),
                    window.fullGraph()->vertexCount(), shown->hiddenDescendants(largest));
        clock.start();
        last = 0;
        ticker.start(1);
        stage = 1;
        window.toggleCollapsed(largest);
    };
    QObject::connect(&window, &MainWindow::openFinished, [&](const QString&, const QString& e) {
        if (!e.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
            app.exit(1);
            return;
        }
        // Once the overview's own picture is whole.
        QTimer::singleShot(0, [&] {
            auto* wait = new QTimer(&app);
            QObject::connect(wait, &QTimer::timeout, [&, wait] {
                if (!window.openGLWidget->showsCurrentState()) return;
                wait->deleteLater();
                expandLargest();
            });
            wait->start(20);
        });
    });
    QObject::connect(&window, &MainWindow::reshowFinished, [&](const QString& e) {
        if (!e.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
            app.exit(1);
            return;
        }
        adopted = clock.elapsed();
        stage = 2;
    });
    QObject::connect(window.openGLWidget, &QOpenGLWidget::frameSwapped, [&] {
        if (stage != 2 || !window.openGLWidget->showsCurrentState()) return;
        std::printf(
            "double-click to new part laid out and handed over %lld ms; to its whole picture "
            "%lld ms; longest GUI-thread gap %lld ms; %zu vertices shown\n",
            adopted - asked, clock.elapsed() - asked, stall, window.graph()->vertexCount());
        if (!out.isEmpty()) window.openGLWidget->shownPicture().save(out);
        app.quit();
    });
    QTimer::singleShot(300, [&] { window.openInBackground(QString::fromLocal8Bit(argv[1])); });
    return app.exec();
}
