#include "tevrin/CrCollection.h"

void CrCollection::itReleaseCreateable(void* item) {
    if (item) static_cast<Createable*>(item)->Release();
}
