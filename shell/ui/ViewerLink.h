// Private: the three steps the show-file operation asks of the quick viewer.
#pragma once

#include <QString>

namespace lorvant::viewerlink {

// Sets the viewer's font (creating the viewer on first use).
bool setFont(const QString& family, QString* error);
bool load(const QString& path, QString* error);
void show();

}  // namespace lorvant::viewerlink
