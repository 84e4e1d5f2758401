#include "gui/window/ContactCardDrop.h"

#include "gui/shell/CommandBoundary.h"
#include "gui/shell/UserInteraction.h"
#include "interchange/contacts/ContactsImport.h"
#include "store/Localization.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <iterator>

namespace velumark::gui {

namespace {
const char *const kCardTypes[] = {"text/vcard", "text/x-vcard", "text/directory"};
} // namespace

ContactCardDrop::ContactCardDrop(VelumarkDatabase &document, QWidget &target)
    : QObject(&target), m_document(document), m_target(target)
{
    target.setAcceptDrops(true);
    target.installEventFilter(this);
}

QStringList ContactCardDrop::cardFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString suffix = QFileInfo(url.toLocalFile()).suffix();
        if (suffix.compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0 ||
            suffix.compare(QLatin1String("vcard"), Qt::CaseInsensitive) == 0)
            files << url.toLocalFile();
    }
    return files;
}

QByteArray ContactCardDrop::cardText(const QMimeData *data)
{
    if (!data)
        return {};
    for (const char *type : kCardTypes) {
        if (data->hasFormat(QLatin1String(type)))
            return data->data(QLatin1String(type));
    }
    return {};
}

bool ContactCardDrop::carriesCards(const QMimeData *data)
{
    if (!cardFiles(data).isEmpty())
        return true;
    return data && std::any_of(std::begin(kCardTypes), std::end(kCardTypes),
                               [data](const char *type) { return data->hasFormat(QLatin1String(type)); });
}

bool ContactCardDrop::drop(const QMimeData *data)
{
    const QStringList files = cardFiles(data);
    const QByteArray text = cardText(data);
    ContactsImport import(m_document);
    QString error;
    bool stored = false;
    runCommand(&m_target, [&] {
        const Result<> result = import.run([&](VCardImport &cards) {
            for (const QString &file : files)
                cards.importFile(file);
            if (!text.isEmpty())
                cards.parsevCardsInString(text, localized("the dropped cards"));
        });
        stored = result.ok();
        error = result.message();
    });
    const VCardImport &cards = import.cards();
    if (stored && cards.addedCount() > 0)
        return true;
    QStringList reasons = cards.skipped();
    if (!error.isEmpty())
        reasons.prepend(error);
    UserInteraction::instance().showAlert(
        &m_target,
        {localized("WARNING"), localized("A problem occurred while adding contacts to the Client list."),
         reasons.join(QLatin1Char('\n')), UserInteraction::Severity::Warning});
    return false;
}

bool ContactCardDrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_target)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!carriesCards(drag->mimeData()))
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *dropEvent = static_cast<QDropEvent *>(event);
        if (!carriesCards(dropEvent->mimeData()))
            return false;
        dropEvent->setDropAction(Qt::CopyAction);
        dropEvent->setAccepted(drop(dropEvent->mimeData()));
        return true;
    }
    default:
        return false;
    }
}

} // namespace velumark::gui
