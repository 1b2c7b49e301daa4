// Resource and dialog item identifiers shared by the program and its
// language resource libraries.
#pragma once
