// Opening a file again and again must not make the viewer grow: each open replaces the graph,
// its five layouts, their GL buffers and the curves, and what is replaced must be given back.
#include <GL/glew.h>

#include "GraphGenerator.h"
#include "GraphStore.h"
#include "CurrentFrame.h"
#include "MainWindow.h"
#include "RenderStates.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <memory>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

// Resident memory of this process in KiB (the second field of /proc/self/statm, in pages),
// after the allocator has given back the free pages it keeps: without that, how much of a freed
// graph stays resident depends on how its blocks happened to lie among the ones still in use.
long residentKiB() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

class MemoryTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        g_renderStates = RenderStates();
        m_window = std::make_unique<MainWindow>();
        connect(m_window->openGLWidget, &QOpenGLWidget::frameSwapped, this, [this] { ++m_frames; });
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QVERIFY(waitForCurrentFrame());
    }

    void cleanup() { m_window.reset(); }

    void reopeningAFileHundredTimesKeepsOneGraphsWorthOfMemory() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("graph.rsf");
        GeneratorParams params;
        params.vertices = 3000;
        params.relations = 3000;
        params.fanOut = 6;
        params.maxDepth = 10;
        {
            std::ofstream out(QFile::encodeName(path).toStdString());
            GraphGenerator(params).writeRsf(out);
        }
        m_window->radioButton_11->click();
        // The curves are made and uploaded with every open but not drawn: the software
        // renderer keeps what it needed for drawing tens of thousands of line strips, in steps
        // of up to 130 MB that depend on how its threads met, which would drown what an open
        // leaves behind.
        m_window->checkBox_7->click();

        const long before = residentKiB();
        QString error;
        QVERIFY2(m_window->openFile(path, &error), qPrintable(error));
        QVERIFY(waitForCurrentFrame());
        const long afterFirst = residentKiB();
        for (int open = 2; open <= 100; ++open) {
            QVERIFY2(m_window->openFile(path, &error), qPrintable(error));
            // A frame with every fifth graph: with frames between all of them the driver's
            // short-lived blocks land among the graph's, and the heap grows by fragmentation
            // for some 40 opens before it settles, whatever the viewer frees.
            if (open % 5 == 0) QVERIFY(waitForCurrentFrame());
        }
        QVERIFY(waitForCurrentFrame());
        const long afterHundredth = residentKiB();
        QCOMPARE(m_window->graph()->vertexCount(), size_t(params.vertices));

        const long firstGrowth = afterFirst - before;
        const long laterGrowth = afterHundredth - afterFirst;
        std::printf(
            "resident memory: %ld KiB before, %ld KiB after the 1st open, %ld KiB after "
            "the 100th open\n",
            before, afterFirst, afterHundredth);
        // What leaks per open would show 99 times over. The software renderer holds between
        // 90 and 175 MB of short-lived blocks depending on where its threads are when memory
        // is measured, and the heap settles only after about 100 opens: a run of 300 opens
        // climbs to 430-510 MB and stays there. So one graph's worth plus 192 MB is allowed,
        // which a leak of 2 MB or more per open still exceeds.
        QVERIFY2(firstGrowth > 0, "the first open should take memory");
        QVERIFY2(laterGrowth < firstGrowth + 192 * 1024,
                 qPrintable(QString("grew by %1 KiB over 99 more opens; the first took %2 KiB")
                                .arg(laterGrowth)
                                .arg(firstGrowth)));
    }

    void replacedFilesLeaveNoBuffersBehind() {
        QString error;
        QVERIFY2(m_window->openFile(kData + "ramiflex.xml", &error), qPrintable(error));
        QVERIFY(waitForCurrentFrame());
        const int afterFirst = liveBuffers();
        for (int open = 0; open < 4; ++open) {
            const QString name = open % 2 ? "ramiflex.xml" : "ramiflex.rsf";
            QVERIFY2(m_window->openFile(kData + name, &error), qPrintable(error));
            QVERIFY(waitForCurrentFrame());
        }
        QVERIFY(afterFirst > 0);
        QCOMPARE(liveBuffers(), afterFirst);
    }

private:
    // Buffer objects that exist in the surface's context, found by asking for every name up to
    // a bound far beyond what a few opens create.
    int liveBuffers() {
        m_window->openGLWidget->makeCurrent();
        int live = 0;
        for (GLuint name = 1; name < 20000; ++name) live += glIsBuffer(name) == GL_TRUE;
        m_window->openGLWidget->doneCurrent();
        return live;
    }

    bool waitForCurrentFrame() { return ::waitForCurrentFrame(*m_window->openGLWidget); }

    std::unique_ptr<MainWindow> m_window;
    int m_frames = 0;
};

QTEST_MAIN(MemoryTest)
#include "MemoryTest.moc"
