/* Wine's debug channels, switched off as in a release: no message is written and no channel
 * is on. But a trace goes to the oracle's harness, which reads one of them: a name or
 * back-reference resolved to its text (wine_undecorator.cpp); so debugstr_a gives its text
 * as it is. The rest of the debugstr family, which later sources may call outside a message
 * too, gives an empty text. */
#ifndef SORVINDEL_WINE_SHIM_DEBUG_H
#define SORVINDEL_WINE_SHIM_DEBUG_H

#define WINE_DEFAULT_DEBUG_CHANNEL(channel) struct sorvindel_unused_##channel
#define WINE_DECLARE_DEBUG_CHANNEL(channel) struct sorvindel_unused_##channel

void WineTrace(const char* format, ...);
#define TRACE(...) WineTrace(__VA_ARGS__)
#define WARN(...) ((void)0)
#define ERR(...) ((void)0)
#define FIXME(...) ((void)0)
#define MESSAGE(...) ((void)0)
#define WINE_TRACE(...) WineTrace(__VA_ARGS__)
#define WINE_WARN(...) ((void)0)
#define WINE_ERR(...) ((void)0)
#define WINE_FIXME(...) ((void)0)
#define TRACE_(channel) TRACE
#define WARN_(channel) WARN
#define ERR_(channel) ERR
#define FIXME_(channel) FIXME
#define WINE_TRACE_(channel) TRACE
#define WINE_WARN_(channel) WARN
#define WINE_ERR_(channel) ERR
#define WINE_FIXME_(channel) FIXME

#define TRACE_ON(channel) 0
#define WARN_ON(channel) 0
#define ERR_ON(channel) 0
#define FIXME_ON(channel) 0
#define WINE_TRACE_ON(channel) 0
#define WINE_WARN_ON(channel) 0
#define WINE_ERR_ON(channel) 0
#define WINE_FIXME_ON(channel) 0

static inline const char* sorvindel_no_text(const void* ignored, ...) {
    (void)ignored;
    return "";
}
#define debugstr_a(text) ((const char*)(text))
#define debugstr_an(text, length) ((const char*)(text))
#define debugstr_w(...) sorvindel_no_text(__VA_ARGS__)
#define debugstr_wn(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbgstr_a(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbgstr_an(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbgstr_w(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbgstr_wn(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbg_sprintf(...) sorvindel_no_text(__VA_ARGS__)
#define wine_dbg_printf(...) 0

#endif
