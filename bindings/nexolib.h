/* The suite client library's call interface (Nexolib.dll): account facts,
 * site addresses, the product version, the translation tables and the
 * download of updated tip files. Shared by the program and by the library
 * itself. All calls use the C calling convention; texts are UTF-16.
 *
 * Handles are opaque. Every handle, of any type, is closed with
 * NX_Close_Handle and carries the text of its last error, read with
 * NX_Last_Error_Description (empty after a call that succeeded). A handle
 * may be used from one thread at a time; handles are independent of each
 * other. A returned text belongs to the library and stays valid until the
 * next call on the same handle. */
#ifndef KELVANE_BINDINGS_NEXOLIB_H
#define KELVANE_BINDINGS_NEXOLIB_H

#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif

#define NXCALL __cdecl

#ifdef NEXOLIB_BUILDING
#define NXAPI __declspec(dllexport)
#else
#define NXAPI __declspec(dllimport)
#endif

typedef struct NX_Lib_Handle_ NX_Lib_Handle_;
typedef struct NX_Suite_Handle_ NX_Suite_Handle_;
typedef struct NX_Localization_Handle_ NX_Localization_Handle_;
typedef struct NX_Language_Handle_ NX_Language_Handle_;
typedef struct NX_Update_Handle_ NX_Update_Handle_;

/* Any handle; null is accepted and does nothing. */
NXAPI void NXCALL NX_Close_Handle(void* handle);
/* The last error of any handle; empty when there was none or for null. */
NXAPI const wchar_t* NXCALL NX_Last_Error_Description(void* handle);

/* Null only when the library cannot work at all. */
NXAPI NX_Lib_Handle_* NXCALL NX_Open_Lib(void);

/* The suite data of one product; null with the library handle's error
 * (naming the file and the reason) when it cannot be read. */
NXAPI NX_Suite_Handle_* NXCALL NX_Open_Suite(NX_Lib_Handle_* lib, const wchar_t* product_name);
NXAPI const wchar_t* NXCALL NX_Get_User_Id(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_User_Name(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_User_Site(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_Language(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_Product_Version(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_Partner_Id(NX_Suite_Handle_* suite);
NXAPI const wchar_t* NXCALL NX_Get_Suite_Laucnher_Path(NX_Suite_Handle_* suite);
/* The full address of a page of the product site; an unknown page name
 * gives an empty text and an error. */
NXAPI const wchar_t* NXCALL NX_Make_Account_Url(NX_Suite_Handle_* suite, const wchar_t* page_name);

/* The translation tables of a folder, with the table of one language
 * loaded; null with the library handle's error. */
NXAPI NX_Localization_Handle_* NXCALL NX_Open_Localization(NX_Lib_Handle_* lib, const wchar_t* language_id,
                                                          const wchar_t* languages_folder);
/* Switches to another language's table: nonzero on success; on failure the
 * previous table stays. */
NXAPI int NXCALL NX_Load_Translations(NX_Localization_Handle_* localization, const wchar_t* language_id);
/* The phrase of a key; an unknown key gives an empty text and no error. */
NXAPI const wchar_t* NXCALL NX_Get_Phrase(NX_Localization_Handle_* localization, const wchar_t* key);
/* Reads the folder's tables afresh: their number, or -1 with an error. */
NXAPI int NXCALL NX_Supported_Languages(NX_Localization_Handle_* localization);
/* One table of the last NX_Supported_Languages; null with an error. */
NXAPI NX_Language_Handle_* NXCALL NX_Get_Language_Info(NX_Localization_Handle_* localization, int index);
NXAPI const wchar_t* NXCALL NX_Language_Id(NX_Language_Handle_* language);
NXAPI const wchar_t* NXCALL NX_Language_Name(NX_Language_Handle_* language);
NXAPI const wchar_t* NXCALL NX_Language_EnglishName(NX_Language_Handle_* language);

/* The download of the products' tip files. */
NXAPI NX_Update_Handle_* NXCALL NX_Update_Open(NX_Lib_Handle_* lib);
/* Starts the download on a thread of its own and returns at once: nonzero
 * when it was started. The handle may be closed while it runs. */
NXAPI int NXCALL NX_Update_Start(NX_Update_Handle_* update);

#ifdef __cplusplus
}
#endif

#endif
