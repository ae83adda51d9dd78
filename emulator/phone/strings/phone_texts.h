/* Texts of the phone's call dialog. Both string libraries take them from here, so that the title
 * that the phone shows and the titles that the services compare are one text. */
#ifndef TOVARIN_EMULATOR_PHONE_TEXTS_H
#define TOVARIN_EMULATOR_PHONE_TEXTS_H

/* String ids: the call dialog's title (in tapres.dll, and again under the id the language file
 * uses) and the text of the dialog's child that names the call. */
#define IDS_CALL_DIALOG_TITLE 22403
#define IDS_CALL_DIALOG_TITLE_MUI 22387
#define IDS_CALL_DIALOG_CHILD 22601

#define TEXT_CALL_DIALOG_TITLE "Телефон"
#define TEXT_CALL_DIALOG_CHILD "Входящий вызов"

#endif
