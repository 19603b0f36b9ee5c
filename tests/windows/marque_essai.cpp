// The running programs' mark, for the installer's test:
//   marque_essai refusee   holds the mark so that the installer cannot open it, as a VELMORA
//                          run as administrator holds it for the crew's own installer: a mutex
//                          whose security descriptor grants nobody any access. Wine grants every
//                          access whatever the descriptor: there, the name is taken by an object
//                          of another kind, which the installer cannot open as a mutex either
//                          (ERROR_INVALID_HANDLE). Says how once it holds the name, and holds it
//                          until its standard input ends.
//   marque_essai attend    waits until a program holds the mark: status 0 once one does, 1 if
//                          none has after a minute.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

const wchar_t* const nom = L"" VELMORA_MARQUE_EN_MARCHE;

// The installer's own question: 0 when the mark opens, else the error that refused it.
DWORD refus() {
    const HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, nom);
    const DWORD erreur = GetLastError();
    if (!h) return erreur;
    CloseHandle(h);
    return 0;
}

int attend() {
    for (int i = 0; i < 600; ++i) {
        if (refus() == 0) return 0;
        Sleep(100);
    }
    std::puts("aucun programme ne tient la marque");
    return 1;
}

int refusee() {
    SECURITY_DESCRIPTOR sd;
    ACL vide;
    if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
        !InitializeAcl(&vide, sizeof vide, ACL_REVISION) ||
        !SetSecurityDescriptorDacl(&sd, TRUE, &vide, FALSE))
        return 1;
    SECURITY_ATTRIBUTES sa{sizeof sa, &sd, FALSE};
    HANDLE marque = CreateMutexW(&sa, FALSE, nom);
    if (!marque || GetLastError() == ERROR_ALREADY_EXISTS) {
        std::puts("la marque est déjà prise");
        return 1;
    }
    DWORD erreur = refus();
    const char* comment = "accès refusé";
    if (erreur == 0) {
        CloseHandle(marque);
        marque = CreateEventW(nullptr, FALSE, FALSE, nom);
        erreur = refus();
        comment = "un objet d'une autre sorte porte le nom";
    }
    if (!marque || erreur == 0 || erreur == ERROR_FILE_NOT_FOUND) {
        std::printf("la marque n'a pas pu être fermée à l'installateur (erreur %lu)\n", erreur);
        return 1;
    }
    std::printf("prête : %s (erreur %lu)\n", comment, erreur);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(marque);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "attend") == 0) return attend();
    if (argc == 2 && std::strcmp(argv[1], "refusee") == 0) return refusee();
    std::puts("usage : marque_essai attend|refusee");
    return 2;
}
