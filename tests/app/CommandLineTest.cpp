// The viewer started as a user starts it: --help and --version without a display, bad values and
// unopenable files refused with the problem, and --screenshot pictures shaped by the options.
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kData = QStringLiteral(RAMIFLEX_SOURCE_DIR "/data/");

struct Run {
    int exitCode;
    QString out, err;
};

// environment: NAME=VALUE sets, -NAME unsets.
Run runViewer(const QStringList& arguments, const QStringList& environment = {},
              const QString& program = RAMIFLEX_APP) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& e : environment)
        e.startsWith('-') ? env.remove(e.mid(1))
                          : env.insert(e.section('=', 0, 0), e.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    // Each run against its exit code and a text it must say: on standard output for code 0, on
    // standard error otherwise.
    void runsEndWithTheirCodeAndSayWhy() {
        const QString tiny = kData + "tiny.xml", never = m_dir.filePath("never.png");
        const QString v = m_dir.filePath("v.png"), t = m_dir.filePath("t.png");
        const QString svg = m_dir.filePath("v.svg"), pdf = m_dir.filePath("v.PDF");
        const QStringList noDisplay = {"-DISPLAY", "QT_QPA_PLATFORM=xcb"},
                          memory = {"RAMIFLEX_FAIL_GRAPHICS_ALLOCATION=1"},
                          trace = {"RAMIFLEX_TRACE=1"};
        // clang-format off
        QList<std::tuple<int, QString, QStringList, QStringList>> runs = {
            {0, "--hide", noDisplay, {"--help"}},
            {0, "ramiflex ", noDisplay, {"--version"}},
            {2, "ramiflex: ", noDisplay, {"--screenshot", "x.png"}},
            {1, "no-such-file.xml", {}, {kData + "no-such-file.xml", "--screenshot", never}},
            // The first curve buffer is left without memory, as a driver out of it would.
            {1, "ran out of memory", memory, {tiny, "--screenshot", never}},
            // Trace lines only when asked for, by option or environment.
            {0, "radialtree calculated", {}, {tiny, "--verbose", "--screenshot", v}},
            {0, "radialtree calculated", trace, {tiny, "--screenshot", t}},
            {0, "", {}, {tiny, "--size", "640x400", "--beta", "0.2", "--screenshot", v}},
            // A part of the graph: a depth, patterns, no labels; a pattern matching the root.
            {0, "", {}, {tiny, "--depth", "1", "--exclude", "*/x*", "--exclude", "y",
                         "--hide", "labels", "--screenshot", t}},
            {1, "matches the root", {}, {tiny, "--exclude", "*", "--screenshot", never}},
            // Vector pictures by the suffix, in any case; a folder that is not there is named.
            {0, "", {}, {tiny, "--2d", "--screenshot", svg}},
            {0, "", {}, {tiny, "--size", "640x400", "--screenshot", pdf}},
            {1, "png/v.svg: cannot be written", {}, {tiny, "--screenshot", never + "/v.svg"}},
        };
        // clang-format on
        // Bad values are refused before a display is asked for.
        // clang-format off
        const QStringList refused[] = {
            {"--view", "9"}, {"--view", "x"}, {"--blend", "5"}, {"--blend", "-1"}, {"--beta", "1.5"},
            {"--beta", "nan"}, {"--hide", "floor"}, {"--size", "100"}, {"--size", "0x10"},
            {"--size", "9000x9"}, {"--no-such-option"}, {tiny}, {"--depth", "-1"},
            {"--depth", "x"}, {"--depth", "all1"}, {"--exclude", ""}, {"--hide", "label"}};
        // clang-format on
        for (const QStringList& bad : refused)
            runs.append({2, "ramiflex: ", noDisplay, QStringList{tiny} + bad});
        for (const auto& [exitCode, says, environment, arguments] : runs) {
            const Run run = runViewer(arguments, environment);
            QVERIFY2(run.exitCode == exitCode && (exitCode ? run.err : run.out).contains(says),
                     qPrintable(arguments.join(' ') + " -> " + run.out + run.err));
        }
        // A copy of the program that finds no shader folder says so (in UTF-8) and saves nothing.
        const QString alone = m_dir.filePath("alone/ramiflex");
        QVERIFY(QDir().mkpath(QFileInfo(alone).absolutePath()) && QFile::copy(RAMIFLEX_APP, alone));
        const Run broken = runViewer({tiny, "--screenshot", never}, {}, alone);
        QCOMPARE(broken.exitCode, 1);
        QVERIFY2(broken.err.contains(QString::fromUtf8(u8"Shader konnte nicht ge\u00f6ffnet")),
                 qPrintable(broken.err));
        QVERIFY(!QFile::exists(never));
        QCOMPARE(QImage(v).size(), QSize(640, 400));
        QFile svgFile(svg), pdfFile(pdf);
        QVERIFY(svgFile.open(QIODevice::ReadOnly) && pdfFile.open(QIODevice::ReadOnly));
        QVERIFY(svgFile.readAll().contains("viewBox=\"0 0 1024 768\""));
        QVERIFY(QString(pdfFile.readAll())
                    .contains(QRegularExpression("/MediaBox \\[0 0 640[.0]* 400[.0]*\\]")));
        QCOMPARE(runViewer({tiny, "--screenshot", never}).out, QString());  // quiet by default
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
