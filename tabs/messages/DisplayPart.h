// FindDisplayPart: the part of a message the preview shows: the first leaf of
// media type text whose subtype is exactly "plain" or "html" and whose content
// is not empty; null when there is none.
#pragma once

class CMimePart;

const CMimePart* FindDisplayPart(const CMimePart& message);
