#include "addin/core/procedures.h"

#include "addin/core/check_thissite_button_push.h"
#include "addin/recording/save_history.h"

namespace kq::addin {

Procedures AddinProcedures() {
    Procedures procedures;
    procedures.SaveHistory = [] { recording::SaveHistory(); };
    procedures.CheckThissiteButtonPush = CheckThissiteButtonPush;
    return procedures;
}

}  // namespace kq::addin
