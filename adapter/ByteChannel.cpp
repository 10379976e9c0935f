#include "ByteChannel.h"

const Result& CByteChannel::GetLoss() const {
  static const Result kNone;
  return kNone;
}
