#include "Preferences.h"

#include "RenderStates.h"

#include <QColor>
#include <QFileInfo>
#include <QSettings>

namespace {

// Calls visit(key, rgba) for every colour the user chooses, in const and non-const states.
template <typename States, typename Visit>
void forEachColor(States& states, Visit visit) {
    visit("colors/vertex", states.vertexColor);
    visit("colors/hierarchy", states.hierarchyColor);
    visit("colors/relationStart", states.relationStartColor);
    visit("colors/relationEnd", states.relationEndColor);
    visit("colors/selection", states.selectionColor);
    visit("colors/outgoingEdge", states.outgoingEdgeColor);
    visit("colors/incomingEdge", states.incomingEdgeColor);
}

}  // namespace

namespace Preferences {

QByteArray windowGeometry() { return QSettings().value("window/geometry").toByteArray(); }

void setWindowGeometry(const QByteArray& geometry) {
    QSettings().setValue("window/geometry", geometry);
}

QString lastFolder() { return QSettings().value("files/lastFolder").toString(); }

QStringList recentFiles() { return QSettings().value("files/recent").toStringList(); }

void addRecentFile(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kMaxRecentFiles) files.removeLast();
    QSettings settings;
    settings.setValue("files/recent", files);
    settings.setValue("files/lastFolder", QFileInfo(path).absolutePath());
}

void clearRecentFiles() { QSettings().remove("files/recent"); }

QStringList excludePatterns() { return QSettings().value("shown/exclude").toStringList(); }

void setExcludePatterns(const QStringList& patterns) {
    QSettings().setValue("shown/exclude", patterns);
}

void saveRenderChoices(const RenderStates& states) {
    QSettings settings;
    forEachColor(states, [&](const char* key, const float* c) {
        settings.setValue(key, QColor::fromRgbF(c[0], c[1], c[2], c[3]).name(QColor::HexArgb));
    });
    settings.setValue("rendering/blendMethod", states.blendMethod);
}

void restoreRenderChoices(RenderStates& states) {
    QSettings settings;
    forEachColor(states, [&](const char* key, float* c) {
        const QColor color = QColor::fromString(settings.value(key).toString());
        if (!color.isValid()) return;
        c[0] = color.redF();
        c[1] = color.greenF();
        c[2] = color.blueF();
        c[3] = color.alphaF();
    });
    // Both relation colours carry the alpha slider's value.
    states.relationStartColor[3] = states.relationEndColor[3];
    bool ok = false;
    const int method = settings.value("rendering/blendMethod").toInt(&ok);
    if (ok && method >= 0 && method <= 4) states.blendMethod = method;
}

}  // namespace Preferences
