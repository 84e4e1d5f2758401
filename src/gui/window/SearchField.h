#pragma once

#include <QLineEdit>
#include <QStringList>

class QMenu;

namespace velumark::gui {

// The search field of a document window: a line edit with a search icon and a clear button.
// The icon opens the recent searches ("Recent Searches", the texts, "Clear Search History"; "No
// Recent Searches" without any). A text is kept among them when the user confirms it (Return)
// or leaves the field; Escape clears the field.
class SearchField : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int kMostRecentSearches = 10;

    explicit SearchField(QWidget *parent = nullptr);

    const QStringList &recentSearches() const { return m_recentSearches; }
    void setRecentSearches(const QStringList &searches);
    // The menu of the search icon, filled each time it opens.
    QMenu *recentsMenu() const { return m_menu; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void rememberSearch();
    void fillRecentsMenu();

    QStringList m_recentSearches;
    QMenu *m_menu;
};

} // namespace velumark::gui
