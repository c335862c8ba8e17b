#include "Preferences.h"

#include "RenderStates.h"

#include <QColor>
#include <QFileInfo>
#include <QSettings>

namespace {

float* colorOf(RenderStates& states, const char* key) {
    const std::pair<const char*, float*> colors[] = {
        {"colors/vertex", states.vertexColor},
        {"colors/hierarchy", states.hierarchyColor},
        {"colors/relationStart", states.relationStartColor},
        {"colors/relationEnd", states.relationEndColor},
        {"colors/selection", states.selectionColor},
        {"colors/outgoingEdge", states.outgoingEdgeColor},
        {"colors/incomingEdge", states.incomingEdgeColor},
    };
    for (const auto& [name, rgba] : colors) {
        if (qstrcmp(name, key) == 0) return rgba;
    }
    return nullptr;
}

const char* const kColorKeys[] = {
    "colors/vertex",    "colors/relationStart", "colors/relationEnd", "colors/hierarchy",
    "colors/selection", "colors/outgoingEdge",  "colors/incomingEdge"};

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

void saveRenderChoices(const RenderStates& states) {
    QSettings settings;
    RenderStates copy = states;
    for (const char* key : kColorKeys) {
        const float* c = colorOf(copy, key);
        settings.setValue(key, QColor::fromRgbF(c[0], c[1], c[2], c[3]).name(QColor::HexArgb));
    }
    settings.setValue("rendering/blendMethod", states.blendMethod);
}

void restoreRenderChoices(RenderStates& states) {
    QSettings settings;
    for (const char* key : kColorKeys) {
        const QColor color = QColor::fromString(settings.value(key).toString());
        if (!color.isValid()) continue;
        float* c = colorOf(states, key);
        c[0] = color.redF();
        c[1] = color.greenF();
        c[2] = color.blueF();
        c[3] = color.alphaF();
    }
    // Both relation colours carry the alpha slider's value.
    states.relationStartColor[3] = states.relationEndColor[3];
    bool ok = false;
    const int method = settings.value("rendering/blendMethod").toInt(&ok);
    if (ok && method >= 0 && method <= 4) states.blendMethod = method;
}

}  // namespace Preferences
