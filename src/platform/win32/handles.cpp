#include "platform/win32/handles.h"

#include <objbase.h>

#include "platform/win32/win32_error.h"

namespace quorvel {

ComApartment::ComApartment() {
  CheckHresult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE),
               "CoInitializeEx");
}

}  // namespace quorvel
