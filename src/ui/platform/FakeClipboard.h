#pragma once

#include <QMimeData>
#include <memory>

#include "ui/platform/Clipboard.h"

namespace quillory {

// For tests: a clipboard of the program's own, untouched by anything else on the machine.
class FakeClipboard : public Clipboard {
public:
    const QMimeData* content() const override
    {
        ++reads;
        return data_.get();
    }
    void setContent(QMimeData* data) override { data_.reset(data); }

    mutable int reads = 0; // how often the content was asked for

private:
    std::unique_ptr<QMimeData> data_;
};

} // namespace quillory
