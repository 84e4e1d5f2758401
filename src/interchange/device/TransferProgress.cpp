#include "interchange/device/TransferProgress.h"

#include "store/Localization.h"

#include <algorithm>
#include <cmath>

namespace velumark {

namespace {

// Progress reports come from peers and workers: no NaN or out-of-range value reaches the bar.
double percentage(double percent)
{
    return std::isnan(percent) ? 0 : std::clamp(percent, 0.0, 100.0);
}

} // namespace

TransferProgress::TransferProgress(QObject *parent) : QObject(parent) {}

void TransferProgress::beginImport()
{
    begin(localized("Importing Database"));
}

void TransferProgress::beginExport()
{
    begin(localized("Exporting Database"));
}

void TransferProgress::downloadProgressUpdate(double percent)
{
    setValue(percentage(percent) / 2);
}

void TransferProgress::downloadDidFinish()
{
    setValue(50);
}

void TransferProgress::importProgressUpdate(double percent)
{
    setValue(50 + percentage(percent) / 2);
}

void TransferProgress::uploadProgressUpdate(double percent)
{
    setValue(percentage(percent));
}

void TransferProgress::uploadDidFinish()
{
    setValue(100);
}

void TransferProgress::begin(const QString &title)
{
    m_title = title;
    setValue(0);
}

void TransferProgress::setValue(double value)
{
    m_value = value;
    emit valueChanged(value);
}

} // namespace velumark
