#include "addin/core/procedures.h"

#include "addin/core/check_thissite_button_push.h"

namespace kq::addin {

Procedures CoreProcedures() {
    Procedures procedures;
    procedures.CheckThissiteButtonPush = CheckThissiteButtonPush;
    return procedures;
}

}  // namespace kq::addin
