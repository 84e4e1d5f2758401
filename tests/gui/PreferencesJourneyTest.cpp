#include "ShellJourney.h"
#include "document/ArtworkListController.h"
#include "document/ClientListController.h"
#include "document/DocumentNotifier.h"
#include "document/VelumarkDatabase.h"
#include "gui/shell/CatalogueDocument.h"
#include "gui/shell/PreferencesDialog.h"
#include "gui/shell/VelumarkDocumentController.h"
#include "gui/window/DocumentWindow.h"
#include "store/AppPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace velumark::test {
namespace {

using Kind = DocumentNotifier::Kind;

class PreferencesJourney : public ShellJourney
{
protected:
    void TearDown() override
    {
        AppPreferences &preferences = getPreferences();
        preferences.setSortArtworksByArtist(false);
        preferences.setClearAfterDeadline(true);
        preferences.setDeadlineUnits(2);
        preferences.setDeadlineDuration(1);
        preferences.storeDeadlineDuration();
        ShellJourney::TearDown();
    }

    // How often each open catalogue rebuilt its artwork and its client list.
    struct Relays
    {
        explicit Relays(VelumarkDatabase &database)
            : artworks(database.artworkListController(), &RecordList::listRebuilt),
              clients(database.clientListController(), &RecordList::listRebuilt)
        {}
        int count(Kind kind) const { return kind == Kind::Artwork ? artworks.count() : clients.count(); }
        void clear()
        {
            artworks.clear();
            clients.clear();
        }
        QSignalSpy artworks;
        QSignalSpy clients;
    };
};

TEST_F(PreferencesJourney, ChangesReachEveryOpenCatalogueWhenTheWindowCloses)
{
    // Titles and artists in opposite orders, so that sorting by artist shows.
    const QString first =
        makeCatalogue(QStringLiteral("First"), {QStringLiteral("Zinnia"), QStringLiteral("Aster")});
    const QString second =
        makeCatalogue(QStringLiteral("Second"), {QStringLiteral("Birch"), QStringLiteral("Alder")});
    ASSERT_TRUE(app().start({first, second}));
    std::vector<std::unique_ptr<Relays>> relays;
    for (gui::DocumentWindow *window : app().documents().windows()) {
        // The clients are shown: a refresh then touches the client list only.
        window->document().database().setCurrentList(VelumarkDatabase::ListKind::Clients);
        relays.push_back(std::make_unique<Relays>(window->document().database()));
    }

    app().handlePreferences();
    gui::PreferencesDialog &dialog = app().preferencesDialog();
    ASSERT_TRUE(dialog.isVisible());
    QTest::keyClick(dialog.unitsBox(), Qt::Key_Down);
    EXPECT_EQ(getPreferences().deadlineUnits(), 3);
    EXPECT_EQ(relays[0]->count(Kind::Client), 0); // nothing before the window closes
    dialog.close();
    for (const auto &relay : relays) {
        EXPECT_EQ(relay->count(Kind::Client), 1);
        EXPECT_EQ(relay->count(Kind::Artwork), 0);
        relay->clear();
    }

    app().handlePreferences();
    QTest::mouseClick(dialog.sortArtistBox(), Qt::LeftButton);
    EXPECT_TRUE(getPreferences().sortArtworksByArtist());
    dialog.close();
    for (const auto &relay : relays) {
        EXPECT_EQ(relay->count(Kind::Artwork), 1);
        EXPECT_EQ(relay->count(Kind::Client), 1);
    }
    const auto &artworks = app().documents().windows().first()->document().database().artworks();
    EXPECT_EQ(artworks.front()->title(), QStringLiteral("Aster"));
}

// The field's rules are the preferences editor's (tests/editing); here a refused key beeps, the
// units box follows and the number is stored when the window closes.
TEST_F(PreferencesJourney, TheDurationFieldRefusesLettersAndTheUnitsFollowTheNumber)
{
    ASSERT_TRUE(app().start({}));
    app().handlePreferences();
    gui::PreferencesDialog &dialog = app().preferencesDialog();
    QLineEdit *field = dialog.durationField();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("3a0"));
    EXPECT_EQ(field->text(), QStringLiteral("30"));
    EXPECT_EQ(user.beeps, 1);
    EXPECT_EQ(dialog.unitsBox()->currentText(), QStringLiteral("weeks"));
    dialog.close();
    EXPECT_EQ(getPreferences().deadlineDuration(), 30);
}

TEST_F(ShellJourney, PreferencesThatCannotBeWrittenSayWhyOnceWhileTheWindowIsShown)
{
    QFile blocker(path(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    AppPreferences preferences(path(QStringLiteral("blocker/preferences.ini")));
    gui::PreferencesDialog dialog(preferences);
    dialog.present();

    dialog.sortArtistBox()->click();
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(user.alerts[0].detail.contains(QStringLiteral("blocker"))) << user.transcript().toStdString();
    dialog.clearDeadlinesBox()->click();
    dialog.close();
    EXPECT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(preferences.sortArtworksByArtist()) << "the change applies even so";

    // Shown again: the duration written on closing fails and says so.
    dialog.present();
    dialog.close();
    EXPECT_EQ(user.alerts.size(), 2u);
}

} // namespace
} // namespace velumark::test
