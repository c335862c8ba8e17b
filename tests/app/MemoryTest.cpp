// Opening a file again and again must not make the viewer grow: each open replaces the graph, its
// five layouts, their GL buffers and the curves, and what is replaced must be given back.
#include <GL/glew.h>

#include "AppTestSupport.h"
#include "GraphGenerator.h"
#include "GraphStore.h"

#include <QTemporaryDir>
#include <QtTest>

#include <malloc.h>

#include <cstdlib>
#include <fstream>

namespace {

// llvmpipe keeps the memory of as many binned scenes as its rasteriser threads ever queued at
// once, 0 to 250 MB by chance; rasterising on the drawing thread keeps the driver's share the same
// from frame to frame. Set before the driver first reads it, as the display is asked about GL.
[[maybe_unused]] const bool kSerialRasteriser = setenv("LP_NUM_THREADS", "0", 1) == 0;

// Bytes the allocator has handed out and not yet got back, in KiB: exact, unlike resident memory,
// which also counts free pages held between blocks in use.
long heapInUseKiB() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

}  // namespace

class MemoryTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(waitForCurrentFrame(*m_window->openGLWidget));
    }

    void cleanup() { m_window.reset(); }

    // What leaks per open would show 99 times over. The toolkit and the driver keep a few blocks
    // for a while, so 16 MB of heap stands for a leak of 160 KB an open; GL buffers must match.
    void reopeningAFileHundredTimesKeepsOneGraphsWorth() {
        QTemporaryDir dir;
        const QString path = dir.filePath("graph.rsf");
        GeneratorParams params;
        params.vertices = params.relations = 3000;
        params.fanOut = 6;
        params.maxDepth = 10;
        std::ofstream out(path.toStdString());
        GraphGenerator(params).writeRsf(out);
        out.close();
        m_window->radioButton_11->click();
        // The curves are made and uploaded with every open but not drawn, and a frame is drawn
        // with every fifth graph: drawn on one thread, each frame of them would take seconds.
        m_window->checkBox_7->click();
        long heap = 0;
        int buffers = 0;
        for (int open = 1; open <= 100; ++open) {
            QVERIFY(m_window->openFile(path));
            if (open % 5 == 0 || open == 1) QVERIFY(waitForCurrentFrame(*m_window->openGLWidget));
            if (open == 1) heap = heapInUseKiB(), buffers = liveBuffers();
        }
        const long growth = heapInUseKiB() - heap;
        QVERIFY2(growth < 16 * 1024, qPrintable(QString("grew by %1 KiB").arg(growth)));
        QVERIFY(buffers > 0);
        QCOMPARE(liveBuffers(), buffers);
    }

private:
    // Buffer objects alive in the surface's context, found by asking for every name up to a bound
    // far beyond what a few opens create.
    int liveBuffers() {
        m_window->openGLWidget->makeCurrent();
        int live = 0;
        for (GLuint name = 1; name < 20000; ++name) live += glIsBuffer(name) == GL_TRUE;
        m_window->openGLWidget->doneCurrent();
        return live;
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(MemoryTest)
#include "MemoryTest.moc"
