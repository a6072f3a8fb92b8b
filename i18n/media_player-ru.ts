<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Logging</name>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Критическая ошибка</translation>
    </message>
    <message>
        <source>Could not start notepad! Try to open file manually: %1</source>
        <translation>Не удалось запустить текстовый редактор! Откройте файл вручную: %1</translation>
    </message>
</context>
<context>
    <name>TTVServerManager</name>
    <message>
        <source>Error authorize. Please call for support</source>
        <translation>Ошибка авторизации. Обратитесь в службу поддержки</translation>
    </message>
    <message>
        <source>Error connect to server. Please call for support</source>
        <translation>Ошибка подключения к серверу. Обратитесь в службу поддержки</translation>
    </message>
    <message>
        <source>Error user is blocked. In your acaunt %1 rub.</source>
        <translation>Пользователь заблокирован. На вашем счёте %1 руб.</translation>
    </message>
    <message>
        <source>Error user is blocked</source>
        <translation>Пользователь заблокирован</translation>
    </message>
    <message>
        <source>Network error</source>
        <translation>Ошибка сети</translation>
    </message>
</context>
<context>
    <name>UpdateService</name>
    <message>
        <source>This version cannot install updates yet.</source>
        <translation>Эта версия пока не умеет устанавливать обновления.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Log file cannot be opened</source>
        <translation>Не удаётся открыть файл журнала</translation>
    </message>
    <message>
        <source>Cannot create shared memory segment!</source>
        <translation>Не удаётся создать сегмент разделяемой памяти!</translation>
    </message>
    <message>
        <source>Update error</source>
        <translation>Ошибка обновления</translation>
    </message>
    <message>
        <source>Network Error</source>
        <translation>Ошибка сети</translation>
    </message>
</context>
</TS>
