#include "tabs/messages/DisplayPart.h"

#include <vector>

#include "tabs/messages/MimePart.h"

const CMimePart* FindDisplayPart(const CMimePart& message) {
  std::vector<const CMimePart*> leaves;
  message.GetLeafParts(leaves);
  for (const CMimePart* leaf : leaves) {
    if (leaf->GetMediaType() != CMimeHeader::kText || leaf->GetContentLength() == 0) continue;
    std::string subtype;
    leaf->GetSubType(subtype);
    // The compare is exact: "HTML" in capitals is not taken.
    if (subtype == "plain" || subtype == "html") return leaf;
  }
  return nullptr;
}
