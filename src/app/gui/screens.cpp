#include "screens.h"

#include "seams.h"

#include "Unit16.h"
#include "Unit17.h"
#include "Unit18.h"
#include "Unit21.h"
#include "Unit22.h"
#include "Unit26.h"
#include "Unit44.h"
#include "tickets/Unit38.h"
#include "tickets/Unit8.h"
#include "masterdata/Unit14.h"
#include "masterdata/Unit4.h"
#include "masterdata/Unit6.h"
#include "data/gui/Unit28.h"
#include "exchange/Unit20.h"
#include "exchange/Unit25.h"
#include "exchange/Unit29.h"
#include "exchange/Unit34.h"
#include "exchange/Unit41.h"
#include "data/gui/Unit36.h"
#include "data/gui/Unit37.h"
#include "data/gui/Unit42.h"
#include "maintenance/Unit27.h"
#include "maintenance/Unit35.h"
#include "maintenance/Unit43.h"
#include "taxdata/Unit11.h"
#include "taxdata/Unit24.h"
#include "taxdata/Unit40.h"
#include "reports/Unit12.h"
#include "reports/Unit13.h"
#include "reports/Unit19.h"
#include "reports/Unit30.h"
#include "reports/Unit31.h"
#include "reports/Unit32.h"
#include "reports/Unit33.h"

#include <QDialog>
#include <memory>

namespace app {

QDialog* createScreen(int formNo, QWidget* parent)
{
    switch (formNo) {
    case 4: return new TForm4(parent);
    case 6: return new TForm6(parent);
    case 14: return new TForm14(parent);
    case 16: return new TForm16(parent);
    case 17: return new TForm17(parent);
    case 18: return new TForm18(parent);
    case 21: return new TForm21(parent);
    case 22: return new TForm22(parent);
    case 26: return new TForm26(parent);
    case 38: return new TForm38(parent);
    case 44: return new TForm44(parent);
    case 8: return new TForm8(parent);
    case 27: return new TForm27(parent);
    case 28: return new TForm28(parent);
    case 36: return new TForm36(parent);
    case 37: return new TForm37(parent);
    case 42: return new TForm42(parent);
    case 43: return new TForm43(parent);
    case 35: return new TForm35(parent);
    case 11: return new TForm11(parent);
    case 24: return new TForm24(parent);
    case 40: return new TForm40(parent);
    case 12: return new TForm12(parent);
    case 13: return new TForm13(parent);
    case 19: return new TForm19(parent);
    case 30: return new TForm30(parent);
    case 31: return new TForm31(parent);
    case 32: return new TForm32(parent);
    case 33: return new TForm33(parent);
    case 20: return new TForm20(parent);
    case 25: return new TForm25(parent);
    case 29: return new TForm29(parent);
    case 34: return new TForm34(parent);
    case 41: return new TForm41(parent);
    default: return nullptr;
    }
}

int runScreen(int formNo, QWidget* parent)
{
    std::unique_ptr<QDialog> d(createScreen(formNo, parent));
    if (!d)
        return -1;
    return seams::ui().runModal(d.get());
}

} // namespace app
