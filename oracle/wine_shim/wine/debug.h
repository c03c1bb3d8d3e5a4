/* Wine's debug channels, switched off as in a release: nothing is evaluated or written. */
#ifndef SORVINDEL_WINE_SHIM_DEBUG_H
#define SORVINDEL_WINE_SHIM_DEBUG_H

#define WINE_DEFAULT_DEBUG_CHANNEL(channel) struct sorvindel_unused_##channel
#define TRACE(...) ((void)0)
#define WARN(...) ((void)0)
#define ERR(...) ((void)0)
#define FIXME(...) ((void)0)

#endif
