#include "platform/system_errors.h"

#include <errno.h>

namespace scenario {

std::string ErrnoText(int error) {
  switch (error) {
    case ENOENT:
      return "file o cartella inesistente";
    case EACCES:
      return "permesso negato";
    case EPERM:
      return "operazione non permessa";
    case EISDIR:
      return "è una cartella";
    case ENOTDIR:
      return "una parte del percorso non è una cartella";
    case EEXIST:
      return "esiste già";
    case ENOSPC:
      return "spazio esaurito sul disco";
    case EROFS:
      return "file system in sola lettura";
    case EIO:
      return "errore di lettura o scrittura del disco";
    case EMFILE:
    case ENFILE:
      return "troppi file aperti";
    case ENAMETOOLONG:
      return "nome troppo lungo";
    case ELOOP:
      return "troppi collegamenti simbolici";
    case EBUSY:
      return "risorsa occupata";
    case ETXTBSY:
      return "file in uso";
    case EFBIG:
      return "file troppo grande";
    case ENOMEM:
      return "memoria insufficiente";
    case EINVAL:
      return "argomento non valido";
    case ENOTEMPTY:
      return "la cartella non è vuota";
    case EXDEV:
      return "il file sta su un altro disco";
#ifdef EDQUOT
    case EDQUOT:
      return "quota del disco superata";
#endif
    default:
      return "errore di sistema n. " + std::to_string(error);
  }
}

}  // namespace scenario
