// Heap in use after repeated opens of one file: what leaks per open shows that many times over.
// Prints the growth from the first open to the last, in KiB. Run under Xvfb from the source
// directory:
//   reopen_memory FILE [OPENS]
#include "MainWindow.h"
#include "OpenGLWidget.h"

#include <QApplication>
#include <QTest>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Bytes the allocator has handed out and not yet got back, in KiB: exact, unlike resident memory,
// which also counts free pages held between blocks in use.
long heapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    // llvmpipe keeps the memory of as many binned scenes as its rasteriser threads ever queued;
    // rasterising on the drawing thread keeps the driver's share the same from frame to frame.
    setenv("LP_NUM_THREADS", "0", 1);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: reopen_memory FILE [OPENS]\n");
        return 2;
    }
    const int opens = argc > 2 ? std::max(2, std::atoi(argv[2])) : 100;
    MainWindow window;
    StartOptions options;
    options.screenshot = "unused.png";  // nothing remembered is restored or saved
    window.start(options);
    long first = 0;
    for (int open = 1; open <= opens; ++open) {
        QString error;
        if (!window.openFile(argv[1], &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        // A frame with every fifth graph, as drawing each would take most of the time.
        const bool frame = open % 5 == 0 || open == 1;
        if (frame &&
            !QTest::qWaitFor([&] { return window.openGLWidget->showsCurrentState(); }, 20000)) {
            std::fprintf(stderr, "no frame drawn within 20 s\n");
            return 1;
        }
        if (open == 1) first = heapInUseKiB();
    }
    std::printf("heap grew by %ld KiB over %d opens\n", heapInUseKiB() - first, opens - 1);
    return 0;
}
