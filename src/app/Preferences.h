#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct RenderStates;

// What the viewer remembers between runs, in the user's settings: window geometry, the folder
// of the last file, the recent files, the chosen colours and the blending method.
namespace Preferences {

constexpr int kMaxRecentFiles = 8;

QByteArray windowGeometry();
void setWindowGeometry(const QByteArray& geometry);

// The folder the open dialog starts in: that of the last file opened.
QString lastFolder();
// Most recent first, without duplicates, at most kMaxRecentFiles; also sets the last folder.
QStringList recentFiles();
void addRecentFile(const QString& fileName);
void clearRecentFiles();

// The exclude patterns last applied.
QStringList excludePatterns();
void setExcludePatterns(const QStringList& patterns);

// Colours and blending method; other settings start from their start values every run.
void saveRenderChoices(const RenderStates& states);
void restoreRenderChoices(RenderStates& states);

}  // namespace Preferences
