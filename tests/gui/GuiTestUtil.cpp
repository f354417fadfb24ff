#include "GuiTestUtil.h"

namespace corvana::test {

QStringList RecordingMessages::texts() const {
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}

} // namespace corvana::test
