#pragma once
// Invoke ids: "INV-<process prefix>-<counter>", unique within the process
// and, through the random prefix, unlikely to repeat across processes.

#include "host/Components.h"

namespace rq16::standins {

class InvokeIdGenerator : public IInvokeIdGenerator {
public:
    QString NewInvokeId() override;
};

} // namespace rq16::standins
