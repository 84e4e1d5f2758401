#pragma once

#include "editing/PreferencesEditor.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace velumark {
class AppPreferences;
}

namespace velumark::gui {

// The preferences window: artwork sorting and client deadline highlighting. Each control applies
// at once; the open documents learn of the changes when the window closes.
class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesDialog(AppPreferences &preferences, QWidget *parent = nullptr);

    // Shows the stored values and opens the window; no other window takes input meanwhile.
    void present();

    QCheckBox *sortArtistBox() const { return m_sortArtistBox; }
    QCheckBox *clearDeadlinesBox() const { return m_clearDeadlinesBox; }
    QLineEdit *durationField() const { return m_durationField; }
    QComboBox *unitsBox() const { return m_unitsBox; }

private:
    void buildControls();
    void showValues();
    void fillUnits();
    void durationEdited(const QString &text);
    void windowClosed();
    void reportWriteFailure();

    editing::PreferencesEditor m_editor;
    QCheckBox *m_sortArtistBox = nullptr;
    QCheckBox *m_clearDeadlinesBox = nullptr;
    QLineEdit *m_durationField = nullptr;
    QComboBox *m_unitsBox = nullptr;
    bool m_writeFailureReported = false;
};

} // namespace velumark::gui
