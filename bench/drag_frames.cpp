// The frames a drag draws: a right-button drag that orbits the camera, one move as soon as the
// frame of the move before is on screen, on a file opened whole (as --depth all). Prints each
// draft's time from the move to its frame on screen, their median and longest, and the time
// from the release to the whole picture; OUT.png keeps the last draft's picture. Run under Xvfb
// from the source directory:
//   drag_frames FILE [OUT.png] [--view N] [--2d] [--moves N]
#include "MainWindow.h"
#include "OpenGLWidget.h"
#include "Trace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: drag_frames FILE [OUT.png] [--view N] [--2d] [--moves N]\n");
        return 2;
    }
    StartOptions options;
    // As a --screenshot run: nothing remembered is restored or saved, the picture has its
    // standard size. The file is opened below.
    options.screenshot = "unused.png";
    options.depth = -1;
    int moves = 20;
    QString out;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--2d") {
            options.mode2D = true;
        } else if (arg == "--view" && i + 1 < argc) {
            options.view = std::atoi(argv[++i]);
        } else if (arg == "--moves" && i + 1 < argc) {
            moves = std::max(1, std::atoi(argv[++i]));
        } else {
            out = arg;
        }
    }
    setTraceStream(nullptr);
    MainWindow window;
    window.start(options);
    OpenGLWidget& surface = *window.openGLWidget;
    QElapsedTimer clock;
    std::vector<qint64> drafts;
    qint64 movedAt = 0, releasedAt = -1;
    int stage = 0;  // 0 opening, 1 dragging, 2 waiting for the whole picture
    QPointF at(300, 200);
    const auto move = [&] {
        at += QPointF(6, 2);
        movedAt = clock.elapsed();
        sendMouse(&surface, QEvent::MouseMove, at, Qt::NoButton, Qt::RightButton);
    };
    QObject::connect(&window, &MainWindow::openFinished, [&](const QString&, const QString& e) {
        if (!e.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(e));
            app.exit(1);
            return;
        }
        auto* wait = new QTimer(&app);
        QObject::connect(wait, &QTimer::timeout, [&, wait] {
            if (!surface.showsCurrentState()) return;
            wait->deleteLater();
            std::printf("%zu vertices shown\n", window.graph()->vertexCount());
            clock.start();
            stage = 1;
            sendMouse(&surface, QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
            move();
        });
        wait->start(20);
    });
    QObject::connect(&surface, &QOpenGLWidget::frameSwapped, [&] {
        if (stage == 1) {
            drafts.push_back(clock.elapsed() - movedAt);
            if (int(drafts.size()) < moves) {
                QTimer::singleShot(0, move);
                return;
            }
            if (!out.isEmpty()) surface.shownPicture().save(out);
            stage = 2;
            releasedAt = clock.elapsed();
            sendMouse(&surface, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
        } else if (stage == 2 && surface.showsCurrentState()) {
            std::vector<qint64> sorted = drafts;
            std::sort(sorted.begin(), sorted.end());
            std::printf("drafts (ms):");
            for (qint64 d : drafts) std::printf(" %lld", d);
            std::printf("\nmedian %lld ms, longest %lld ms; release to whole picture %lld ms\n",
                        sorted[sorted.size() / 2], sorted.back(), clock.elapsed() - releasedAt);
            app.quit();
        }
    });
    QTimer::singleShot(300, [&] { window.openInBackground(QString::fromLocal8Bit(argv[1])); });
    return app.exec();
}
