#pragma once

#include "settings/Settings.h"

#include <QColor>
#include <QFont>
#include <QString>

// The print font of the settings as a QFont, and the choice of a font dialog back into the
// settings. The colour is not part of QFont and stays as the settings hold it.
QFont ToQFont(const corvana::PrintFontData& data);
// The same font under the name of the family the system draws it with.
QFont UsedFont(const corvana::PrintFontData& data);
void TakeFont(corvana::PrintFontData& data, const QFont& font);

// A Windows colour number 0x00BBGGRR. Negative numbers name system colours (0x80000000 plus
// the system colour index); they are shown in the matching colour of the desktop palette.
QColor WindowsColor(std::int32_t color);

// "11pt Arial": the size in whole points and the face name.
QString PrintFontText(const corvana::PrintFontData& data);
