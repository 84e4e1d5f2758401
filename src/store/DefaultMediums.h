#pragma once

#include <QStringList>

namespace velumark {

// The nine mediums every new catalogue offers, localized.
QStringList defaultMediumNames();

// The mediums a catalogue gains when its default mediums are added: the artworks' medium texts
// and the nine defaults, without repeats, in localized order, leaving out names that are already
// mediums (compared exactly).
QStringList mediumNamesToAdd(const QStringList &artworkMediums, const QStringList &existingMediums);

} // namespace velumark
