#pragma once

#include "store/Result.h"

#include <QString>
#include <functional>

namespace velumark {

class VelumarkDatabase;

// Fills an empty catalogue with made-up but realistic records through the document's own add
// operations: varied titles, artists, mediums, dates over several years, clients of every kind,
// submissions in every state (one overdue), a client near its deadline, and JPEG photos painted
// on the fly (up to kPaintedPhotoLimit photos each painted for itself, more from a pool painted
// once). The same options and seed give the same catalogue (dates follow today's date).
class DemoCatalogue
{
public:
    struct Options
    {
        int artworks = 12;
        int clients = 6;
        int submissions = 16;
        int photos = 8;
        quint64 seed = 1;
    };

    static constexpr int kPaintedPhotoLimit = 64;

    explicit DemoCatalogue(Options options) : m_options(options) {}

    // progress receives 0..100. Fails with the reason when the document refused a record.
    Result<> fill(VelumarkDatabase &document, const std::function<void(double)> &progress);

private:
    Options m_options;
};

} // namespace velumark
