#include "addin/core/procedures.h"

#include "addin/core/check_thissite_button_push.h"
#include "addin/core/command_bars.h"

namespace kq::addin {

Procedures CoreProcedures() {
    Procedures procedures;
    procedures.CheckThissiteButtonPush = CheckThissiteButtonPush;
    procedures.SetThisSiteCheckButtonPushed = SetThisSiteCheckButtonPushed;
    return procedures;
}

}  // namespace kq::addin
