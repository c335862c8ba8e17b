#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// What the command line asks of one run of the viewer. Parsed before any window or display
// exists, so that --help, --version and bad values never need one.
struct StartOptions {
    QString file;
    QString screenshot;
    int view = -1;   // -1: the start view
    int blend = -1;  // -1: the start blending method
    float beta = -1;
    bool mode2D = false;
    bool verbose = false;
    QStringList hide;  // subset of kHideableElements
    QSize size;        // invalid: the default surface size
    int depth = -2;    // -2: the overview of a large graph, -1: all, else the depth to collapse to
    QStringList exclude;  // patterns of paths to leave out

    static const QStringList kHideableElements;

    enum class Outcome { Run, ExitOk, ExitError };
    // Parses argv. On ExitOk the help or version text is in `message` (for standard output), on
    // ExitError the problem (for standard error).
    static Outcome parse(const QStringList& arguments, StartOptions& options, QString& message);
};
