#include "browser/Startup.h"

int main(int argc, char** argv)
{
    return lifeledgerMain(argc, argv);
}
