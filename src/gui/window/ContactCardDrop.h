#pragma once

#include <QObject>
#include <QStringList>

class QMimeData;
class QWidget;

namespace velumark {
class VelumarkDatabase;
}

namespace velumark::gui {

// Contact cards dropped on the client list become clients: vCard files (.vcf, .vcard) and vCard
// text, through the core's contacts import (all the drop's clients are stored, or none). Watches
// the widget it is given; other drops pass on to the window (a catalogue dropped there opens).
class ContactCardDrop : public QObject
{
    Q_OBJECT
public:
    ContactCardDrop(VelumarkDatabase &document, QWidget &target);

    // The card files and the card text the data carry.
    static QStringList cardFiles(const QMimeData *data);
    static QByteArray cardText(const QMimeData *data);
    static bool carriesCards(const QMimeData *data);
    // Adds a client for every card; whether any was added. When none was, the user is told why.
    bool drop(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    VelumarkDatabase &m_document;
    QWidget &m_target;
};

} // namespace velumark::gui
