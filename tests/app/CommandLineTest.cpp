// The viewer started as a user starts it: with a file, and with --screenshot for a picture.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runViewer(const QStringList& arguments, int timeoutMs = 60000) {
    QProcess process;
    process.setWorkingDirectory(RAMIFLEX_SOURCE_DIR);
    process.start(RAMIFLEX_APP, arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// Pixels that differ from black below the overlay text.
int litPixels(const QImage& image) {
    int lit = 0;
    for (int y = 80; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 20) ++lit;
        }
    }
    return lit;
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void screenshotOfEachViewIsWrittenAndShowsTheGraph() {
        QTemporaryDir dir;
        for (int view : {0, 1, 2, 3, 4}) {
            const QString out = dir.filePath(QString("view%1.png").arg(view));
            const Run run = runViewer(
                {kData + "tiny.rsf", "--2d", "--view", QString::number(view), "--screenshot", out});
            QCOMPARE(run.exitCode, 0);
            QImage image(out);
            QCOMPARE(image.size(), QSize(1024, 768));
            QVERIFY(!image.hasAlphaChannel());
            QVERIFY2(litPixels(image) > 30, qPrintable(QString("view %1").arg(view)));
        }
    }

    void screenshotOfABadFileFailsWithTheProblem() {
        QTemporaryDir dir;
        const QString out = dir.filePath("never.png");
        const Run run = runViewer({kData + "no-such-file.xml", "--screenshot", out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("no-such-file.xml"), qPrintable(run.err));
        QVERIFY(!QFile::exists(out));
    }

    void badArgumentsAreRefused() {
        QCOMPARE(runViewer({kData + "tiny.xml", "--view", "9"}).exitCode, 2);
        QCOMPARE(runViewer({"--screenshot", "x.png"}).exitCode, 2);
    }

    void aFileNamedOnTheCommandLineOpensAtStartUp() {
        QProcess process;
        process.setWorkingDirectory(RAMIFLEX_SOURCE_DIR);
        // Line-buffered, so the trace arrives while the viewer runs.
        process.start("stdbuf", {"-oL", RAMIFLEX_APP, kData + "tiny.xml"});
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((out += QString::fromLocal8Bit(process.readAllStandardOutput()))
                                     .contains("Create Objects"),
                                 30000);
        QVERIFY(out.contains("radialtree calculated"));
        process.kill();
        process.waitForFinished();
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
