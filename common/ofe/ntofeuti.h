// The commented server options file, written anew from the model. Pure: the
// text form here; the file form (WriteServerOptions) is in ofefile.h.
#pragma once
#include "common/ofe/ofeparse.h"

namespace ofe {

// Appends the whole file text, every line ended by CR LF. 1805 without a
// model (nothing appended).
OfeCode WriteServerOptionsText(const ServerOptions* model, std::wstring& text);

}  // namespace ofe
