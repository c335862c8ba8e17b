// The viewer started as a user starts it: with a file, and with --screenshot for a picture.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run runViewer(const QStringList& arguments, int timeoutMs = 60000,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
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

    void screenshotsThatCannotShowTheGraphFailWithTheProblem() {
        QTemporaryDir dir;
        const QString out = dir.filePath("never.png");
        QProcessEnvironment refused = QProcessEnvironment::systemEnvironment();
        // The first curve buffer is left without memory, as a driver out of it would.
        refused.insert("RAMIFLEX_FAIL_GRAPHICS_ALLOCATION", "1");
        const struct {
            QString file;
            QProcessEnvironment environment;
            QString problem;
        } cases[] = {
            {"no-such-file.xml", QProcessEnvironment::systemEnvironment(), "no-such-file.xml"},
            {"tiny.rsf", refused, "ran out of memory"},
        };
        for (const auto& c : cases) {
            const Run run = runViewer({kData + c.file, "--screenshot", out}, 60000, c.environment);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(c.problem), qPrintable(run.err));
            QVERIFY(!QFile::exists(out));
        }
    }

    void helpAndVersionNeedNoDisplayAndBadValuesAreRefused() {
        QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
        noDisplay.remove("DISPLAY");
        noDisplay.insert("QT_QPA_PLATFORM", "xcb");
        const Run help = runViewer({"--help"}, 60000, noDisplay);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.contains("--screenshot") && help.out.contains("--hide"),
                 qPrintable(help.out));
        const Run version = runViewer({"--version"}, 60000, noDisplay);
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.startsWith("ramiflex "), qPrintable(version.out));

        const QString tiny = kData + "tiny.xml";
        const QStringList refused[] = {
            {tiny, "--view", "9"},
            {tiny, "--view", "x"},
            {tiny, "--blend", "5"},
            {tiny, "--blend", "-1"},
            {tiny, "--beta", "1.5"},
            {tiny, "--beta", "nan"},
            {tiny, "--hide", "floor"},
            {tiny, "--size", "100"},
            {tiny, "--size", "0x10"},
            {tiny, "--size", "9000x9"},
            {"--screenshot", "x.png"},
            {tiny, "--no-such-option"},
            {tiny, tiny},
        };
        for (const QStringList& arguments : refused) {
            const Run run = runViewer(arguments, 60000, noDisplay);
            QVERIFY2(run.exitCode == 2 && run.err.contains("ramiflex: "),
                     qPrintable(arguments.join(' ') + " -> " + run.err));
        }
    }

    void bundlesChangeAClearShareOfThePictureInEveryViewAndMethod() {
        QTemporaryDir dir;
        auto picture = [&](const QStringList& options) {
            const QString out = dir.filePath("p.png");
            QFile::remove(out);
            const Run run =
                runViewer(QStringList{kData + "ramiflex.xml", "--screenshot", out} + options);
            if (run.exitCode != 0) qWarning("%s", qPrintable(run.err));
            return QImage(out).convertToFormat(QImage::Format_RGB32);
        };
        // Views in the start state's blending, then the blending methods in the start view.
        QList<QStringList> settings;
        for (int view = 0; view < 5; ++view)
            settings << QStringList{"--view", QString::number(view)};
        for (int blend = 1; blend < 5; ++blend) {
            settings << QStringList{"--blend", QString::number(blend)};
        }
        for (const QStringList& setting : settings) {
            const QImage with = picture(setting + QStringList{"--hide", "overlay"});
            const QImage without = picture(setting + QStringList{"--hide", "overlay,relations"});
            QCOMPARE(with.size(), without.size());
            qint64 changed = 0;
            for (int y = 0; y < with.height(); ++y) {
                const QRgb* a = reinterpret_cast<const QRgb*>(with.constScanLine(y));
                const QRgb* b = reinterpret_cast<const QRgb*>(without.constScanLine(y));
                for (int x = 0; x < with.width(); ++x) {
                    if (std::abs(qGray(a[x]) - qGray(b[x])) > 8) ++changed;
                }
            }
            const double share = 100.0 * changed / (with.width() * with.height());
            QVERIFY2(share >= 2.0, qPrintable(QString("%1: %2 % of the pixels")
                                                  .arg(setting.join(' '))
                                                  .arg(share, 0, 'f', 2)));
        }
    }

    void optionsShapeTheScreenshot() {
        QTemporaryDir dir;
        const QString out = dir.filePath("sized.png");
        const Run run =
            runViewer({kData + "ramiflex.xml", "--size", "640x400", "--blend", "4", "--beta", "0.2",
                       "--hide", "overlay,shadow,grid", "--screenshot", out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QImage(out).size(), QSize(640, 400));
    }

    void traceLinesOnlyWithVerbose() {
        QTemporaryDir dir;
        const QStringList arguments = {kData + "tiny.xml", "--screenshot", dir.filePath("t.png")};
        const Run quiet = runViewer(arguments);
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY2(quiet.out.isEmpty(), qPrintable(quiet.out.left(200)));
        const Run verbose = runViewer(QStringList(arguments) << "--verbose");
        QCOMPARE(verbose.exitCode, 0);
        QVERIFY(verbose.out.contains("radialtree calculated"));
        QProcessEnvironment traced = QProcessEnvironment::systemEnvironment();
        traced.insert("RAMIFLEX_TRACE", "1");
        QVERIFY(runViewer(arguments, 60000, traced).out.contains("radialtree calculated"));
    }
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
