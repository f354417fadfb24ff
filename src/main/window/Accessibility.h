#pragma once

class QLabel;
class QString;
class QWidget;

// Each part of the main window names, where it makes them, the controls that show no text of
// their own, so that a screen reader can say what they are.

// Gives `control` its accessible name. A combo box is spoken as its edit field while typing and
// as its list when open: those carry the name too.
void NameForReaders(QWidget& control, const QString& name);

// A caption beside a field becomes the field's label for assistive technology too.
void LabelForReaders(QLabel& caption, QWidget& field);
