#include "browser/webengine/WebEngineFactory.h"

// A new factory; the caller owns it and deletes it after its last window.
extern "C" Q_DECL_EXPORT WebBrowserFactory *orvane_webengine_factory()
{
    return new WebEngineFactory;
}
