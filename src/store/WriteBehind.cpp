#include "store/WriteBehind.h"

#include <QFileDevice>
#include <fcntl.h>

namespace velumark {

void WriteBehind::writeOut()
{
    const qint64 written = m_file.pos();
    if (written - m_handedOver < kStep || !m_file.flush())
        return;
    // Starts the disk writing without waiting for it.
    ::sync_file_range(m_file.handle(), m_handedOver, written - m_handedOver, SYNC_FILE_RANGE_WRITE);
    m_handedOver = written;
}

} // namespace velumark
