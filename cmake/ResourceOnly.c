/* A resource-only DLL still needs one object file besides its resources. */
int tarvo_resource_only_dll;
