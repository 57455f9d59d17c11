#include "pim/IconProvider.h"

#include <new>

#include "pim/LinksDatabase.h"
#include "pim/NamedPropIconProvider.h"
#include "pim/RecordIconProvider.h"

CIconProvider* CreateIconProvider(int pimChoice, BOOL newerStore) {
  switch (pimChoice) {
    case kPimAgendaFusion:
      return newerStore ? new (std::nothrow) CLinksDatabase(pimChoice, L"FusionLinks", L"FusionLinks.vol", FALSE)
                        : new (std::nothrow) CLinksDatabase(pimChoice, L"FusionLinks", nullptr, FALSE);
    case kPimPocketInformant:
      if (newerStore) return new (std::nothrow) CNamedPropIconProvider(pimChoice, g_piIconNameProp);
      return new (std::nothrow) CRecordIconProvider;
    default:
      if (newerStore) return new (std::nothrow) CNamedPropIconProvider(pimChoice, g_iconNameProp);
      return new (std::nothrow) CLinksDatabase(pimChoice, L"QelTarvoLinks", nullptr, TRUE);
  }
}
