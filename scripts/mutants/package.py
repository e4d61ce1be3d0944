# Faults in where an installed Trimlet keeps its settings.
MUTANTS = [
    ('P01', 'core/settings_location.cpp', 'if (!folder.is_absolute())', 'if (folder.empty())', 'a relative XDG_CONFIG_HOME is used'),
    ('P02', 'core/settings_location.cpp', 'configHome != nullptr ? configHome : ""', 'configHome != nullptr ? "" : ""', 'XDG_CONFIG_HOME is ignored'),
    ('P03', 'core/settings_location.cpp', '0700', '0755', 'new settings folders are readable by everyone'),
    ('P04', 'core/settings_location.cpp', 'path.find(\'/\', 1)', 'path.rfind(\'/\')', 'only the last missing folder is made: a missing configuration folder loses the settings'),
]
