/* What a device module (a shared object loaded with LoadLibraryW) may define for the loader,
 * besides its exported functions and its DllMain. The build of a module defines them in a
 * generated source file; hand-written code does not need them.
 *
 * Every symbol is looked up in the module itself, never in the libraries it links against.
 */
#ifndef TOVARIN_KERNEL_MODULES_MODULE_SYMBOLS_H
#define TOVARIN_KERNEL_MODULES_MODULE_SYMBOLS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Exports by ordinal, as a module-definition file gives them ("Name @7"). The table ends with an
 * entry whose name is NULL. GetProcAddress with ordinal n finds the entry with that ordinal and
 * returns the module's export of that name; the export remains reachable by name as well. */
typedef struct TovarinOrdinalExport {
    uint16_t ordinal;
    const char* name;
} TovarinOrdinalExport;

extern const TovarinOrdinalExport tovarin_ordinals[];
#define TOVARIN_ORDINALS_SYMBOL "tovarin_ordinals"

/* The module's compiled resources (.res image): the bytes from tovarin_resources_begin up to,
 * not including, tovarin_resources_end. Both are labels of one embedded blob (an assembler
 * .incbin between two global labels, for example). A module that defines neither has no
 * resources. */
extern const unsigned char tovarin_resources_begin[];
extern const unsigned char tovarin_resources_end[];
#define TOVARIN_RESOURCES_BEGIN_SYMBOL "tovarin_resources_begin"
#define TOVARIN_RESOURCES_END_SYMBOL "tovarin_resources_end"

#ifdef __cplusplus
}
#endif

#endif /* TOVARIN_KERNEL_MODULES_MODULE_SYMBOLS_H */
