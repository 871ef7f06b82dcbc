// Where the system has no code page 932 of its own, the program's tables stand in for it.

#include "common/text_codec.h"

namespace kq {

const AnsiCodec& systemAnsiCodec() { return cp932Codec(); }

}  // namespace kq
