#include "StartOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

const QStringList StartOptions::kHideableElements = {"vertices", "hierarchy", "relations", "grid",
                                                     "shadow",   "overlay",   "labels"};

namespace {

// An integer option's value within [low, high], or an error naming the option.
bool readInt(const QCommandLineParser& parser, const QString& name, int low, int high, int& value,
             QString& error) {
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    if (ok && value >= low && value <= high) return true;
    error = QString("--%1 takes a whole number from %2 to %3, not \"%4\"")
                .arg(name)
                .arg(low)
                .arg(high)
                .arg(parser.value(name));
    return false;
}

bool readSize(const QString& text, QSize& size, QString& error) {
    static const QRegularExpression pattern("^(\\d{1,5})x(\\d{1,5})$");
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch()) {
        const int width = match.captured(1).toInt(), height = match.captured(2).toInt();
        // Off-screen buffers of the picture's size hold four floats per pixel and output.
        if (width >= 16 && height >= 16 && width <= 8192 && height <= 8192) {
            size = QSize(width, height);
            return true;
        }
    }
    error = QString("--size takes WIDTHxHEIGHT with each from 16 to 8192, not \"%1\"").arg(text);
    return false;
}

bool readHide(const QString& text, QStringList& hide, QString& error) {
    for (const QString& element : text.split(',', Qt::SkipEmptyParts)) {
        if (!StartOptions::kHideableElements.contains(element.trimmed())) {
            error = QString("--hide takes a comma list of %1, not \"%2\"")
                        .arg(StartOptions::kHideableElements.join(','), element);
            return false;
        }
        hide << element.trimmed();
    }
    return true;
}

bool readDepth(const QString& text, int& depth, QString& error) {
    static const QRegularExpression pattern("^\\d{1,4}$");
    if (text == "all") {
        depth = -1;
        return true;
    }
    if (pattern.match(text).hasMatch()) {
        depth = text.toInt();
        return true;
    }
    error = QString("--depth takes a whole number from 0 to 9999 or \"all\", not \"%1\"").arg(text);
    return false;
}

// The options, as --help lists them; returns the help and version options.
std::pair<QCommandLineOption, QCommandLineOption> describeOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        "Shows a hierarchical graph laid out five ways, with its relation edges bundled along the "
        "tree.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        "file", "An .xml or .rsf graph file to open, or a folder of C or C++ sources to scan.",
        "[file]");
    parser.addOptions({
        {"screenshot",
         "Draw FILE's graph, save the picture to <out> and quit: PNG, or by the suffix SVG or "
         "PDF.",
         "out"},
        {"view",
         "Layout: 0 rooted tree, 1 balloon tree, 2 slice-and-dice treemap, 3 strip "
         "treemap, 4 radial tree.",
         "n"},
        {"2d", "Flat, face-on view instead of the 3D view."},
        {"blend",
         "Blending of relation edges: 0 Standard, 1 Min/Max, 2 Standard + Min/Max, "
         "3 Average Weighting, 4 Summed Average.",
         "n"},
        {"beta", "Bundling strength from 0 (straight) to 1 (along the tree).", "b"},
        {"hide",
         "Comma list of what not to draw: vertices, hierarchy, relations, grid, shadow "
         "(also the floor), overlay, labels.",
         "list"},
        {"size", "Size of the picture in pixels, default 1024x768.", "WxH"},
        {"depth",
         "Collapse every vertex at depth D (the root has depth 0), or show all; by default a "
         "graph of more than 5,000 relation edges opens collapsed to an overview.",
         "D|all"},
        {"exclude",
         "Leave out the vertices whose path (names from the root joined by /) matches the "
         "shell pattern (* ? [...]), with their subtrees; may be given several times.",
         "pattern"},
        {"verbose",
         "Print the trace lines of loading, layout and drawing on standard output "
         "(also RAMIFLEX_TRACE=1)."},
    });
    return {help, version};
}

// The values of the options that take one; false with the problem in message for a bad one.
bool readValues(const QCommandLineParser& parser, StartOptions& options, QString& message) {
    if (parser.isSet("view") && !readInt(parser, "view", 0, 4, options.view, message)) {
        return false;
    }
    if (parser.isSet("blend") && !readInt(parser, "blend", 0, 4, options.blend, message)) {
        return false;
    }
    if (parser.isSet("beta")) {
        bool ok = false;
        options.beta = parser.value("beta").toFloat(&ok);
        if (!ok || !(options.beta >= 0 && options.beta <= 1)) {
            message =
                QString("--beta takes a number from 0 to 1, not \"%1\"").arg(parser.value("beta"));
            return false;
        }
    }
    if (parser.isSet("hide") && !readHide(parser.value("hide"), options.hide, message)) {
        return false;
    }
    if (parser.isSet("depth") && !readDepth(parser.value("depth"), options.depth, message)) {
        return false;
    }
    for (const QString& pattern : parser.values("exclude")) {
        if (pattern.isEmpty()) {
            message = "--exclude takes a pattern, not an empty one";
            return false;
        }
        options.exclude << pattern;
    }
    return !parser.isSet("size") || readSize(parser.value("size"), options.size, message);
}

}  // namespace

StartOptions::Outcome StartOptions::parse(const QStringList& arguments, StartOptions& options,
                                          QString& message) {
    QCommandLineParser parser;
    const auto [help, version] = describeOptions(parser);
    if (!parser.parse(arguments)) {
        message = parser.errorText();
        return Outcome::ExitError;
    }
    if (parser.isSet(help) || parser.isSet("help-all")) {
        // Parsed before the application object exists, which would name the program.
        message = parser.helpText().replace("<executable_name>", "ramiflex");
        return Outcome::ExitOk;
    }
    if (parser.isSet(version)) {
        message = QString("ramiflex %1\n").arg(QCoreApplication::applicationVersion());
        return Outcome::ExitOk;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        message = "only one file can be opened, not " + positional.join(' ');
        return Outcome::ExitError;
    }
    options.file = positional.value(0);
    options.screenshot = parser.value("screenshot");
    options.mode2D = parser.isSet("2d");
    options.verbose = parser.isSet("verbose") || qEnvironmentVariable("RAMIFLEX_TRACE") == "1";
    if (!readValues(parser, options, message)) return Outcome::ExitError;
    if (!options.screenshot.isEmpty() && options.file.isEmpty()) {
        message = "--screenshot needs a data file";
        return Outcome::ExitError;
    }
    return Outcome::Run;
}
