// Opening a favourite from the side bar's Favorites tree.
#include "frame/MDIForm1.h"

void MDIForm1::TreeFavor_DblClick()
{
}
